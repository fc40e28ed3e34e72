#pragma once

#include <cstddef>
#include <string>

// Reading of whole files, shared by documents and the settings file.

enum class TReadResult { Ok, Missing, Failed, TooLarge };

// Reads the whole file into `out` (its old content is dropped). Missing means the file does not
// exist; Failed, that it cannot be read (a folder, a pipe or a device, no permission, an I/O
// error); TooLarge, that it holds more than `limit` bytes, in which case no more is read. On
// Failed, `error` (when given) gets the errno that says why. `spare(size)` (when given) is the
// room to reserve beyond the file's size, for a text that will grow without a new buffer.
TReadResult ReadWholeFile(const std::string& path, std::size_t limit, std::string& out,
                          int* error = nullptr, std::size_t (*spare)(std::size_t) = nullptr);

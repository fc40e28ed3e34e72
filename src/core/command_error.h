#pragma once

#include <stdexcept>
#include <string>

// An error that ends the current command: a file that cannot be opened or created, a text that
// is no whole number. It carries the finished message (UTF-8); the one guard in the UI layer
// catches it and shows it in the error box captioned with the application title.
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

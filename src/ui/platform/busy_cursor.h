#pragma once

// The wait cursor over every window of the program while a command that may take a while (open,
// save, encrypt, decrypt, replace all) works; the previous cursor comes back when it ends, by
// an error too.
class BusyCursor final {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// A modal window that a busy command shows (a message, a question, an error box) waits for the
// user, so it shows the normal cursor while it is up.
class ModalCursor final {
public:
    ModalCursor();
    ~ModalCursor();
    ModalCursor(const ModalCursor&) = delete;
    ModalCursor& operator=(const ModalCursor&) = delete;

private:
    bool m_pushed;
};

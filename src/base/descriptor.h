#pragma once
// A file descriptor owned: a C runtime descriptor on both systems
// (open/_wopen), so the code above reads and writes files the same way.

#include "base/expected.h"
#include "base/system_error.h"

namespace hattsheet::platform {

// Closes fd; 0, or the errno of a close that failed (on Linux an
// interrupted close has still closed the descriptor: it counts as done).
// Each platform file defines it.
int closeDescriptor(int fd);

// Closed when it goes (errors of that close are lost; call close() where
// they matter).
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(Descriptor&& other) noexcept : m_fd(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept;
    ~Descriptor();
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    Expected<Done, SystemError> close();

private:
    int m_fd = -1;
};

} // namespace hattsheet::platform

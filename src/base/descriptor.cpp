#include "base/descriptor.h"

namespace hattsheet::platform {

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0) closeDescriptor(m_fd);
        m_fd = other.release();
    }
    return *this;
}

Descriptor::~Descriptor()
{
    if (m_fd >= 0) closeDescriptor(m_fd);
}

Expected<Done, SystemError> Descriptor::close()
{
    if (m_fd < 0) return Done{};
    if (const int err = closeDescriptor(release()); err != 0) return systemFailure(err);
    return Done{};
}

} // namespace hattsheet::platform

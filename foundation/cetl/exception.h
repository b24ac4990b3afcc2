// The one exception type of the containers and the archive readers. Its messages are fixed
// texts, so throwing never allocates.
#pragma once

#include <exception>

namespace cetl {

class exception : public std::exception {
public:
    explicit exception(const char* message) noexcept : m_message(message) {}
    const char* what() const noexcept override { return m_message; }

private:
    const char* m_message;
};

} // namespace cetl

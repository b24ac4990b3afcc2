// The one exception type of the containers and the archive readers. It owns its message: a
// fixed text is kept as a pointer, so throwing one never allocates; a composed text is copied
// once and shared by the exception's copies, so copying stays noexcept.
#pragma once

#include <exception>
#include <memory>
#include <string>
#include <string_view>

namespace cetl {

class exception : public std::exception {
public:
    explicit exception(const char* fixedMessage) noexcept : m_message(fixedMessage) { }
    explicit exception(std::string_view message) : m_owned(std::make_shared<const std::string>(message)), m_message(m_owned->c_str()) { }
    const char* what() const noexcept override { return m_message; }

private:
    std::shared_ptr<const std::string> m_owned;
    const char* m_message;
};

// What the containers say when they are misused.
inline constexpr const char* kListIsEmpty = "the list is empty";
inline constexpr const char* kNoSuchListItem = "the item specified does not exist within the list";
inline constexpr const char* kNoSuchVectorItem = "the item specified does not exist within the vector";
inline constexpr const char* kNoSuchMapIndex = "the index specified does not exist within the map";
inline constexpr const char* kInvalidIterator = "the iterator does not reference a valid object";
inline constexpr const char* kIteratorAtEnd = "the iterator has already reached the end of the container";
inline constexpr const char* kIteratorAtBeginning = "the iterator has already reached the beginning of the container";

} // namespace cetl

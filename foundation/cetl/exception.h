// The one exception type of the containers and the archive readers. Its messages are fixed
// texts, so throwing never allocates.
#pragma once

#include <exception>

namespace cetl {

class exception : public std::exception {
public:
    explicit exception(const char* message) noexcept : m_message(message) { }
    const char* what() const noexcept override { return m_message; }

private:
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

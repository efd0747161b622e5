#ifndef ELEMENTCOPY_H
#define ELEMENTCOPY_H

#include <cstring>

// Raw copies of element values between typed memory and an untyped state buffer:
// native representation, no conversion, no alignment requirement. Used with bool,
// char, short, int, float and double.
template <class T> void writeArray(const T* source, void* buffer, int count) {
    std::memcpy(buffer, source, sizeof(T) * static_cast<size_t>(count));
}
template <class T> void readArray(T* destination, const void* buffer, int count) {
    std::memcpy(destination, buffer, sizeof(T) * static_cast<size_t>(count));
}
template <class T> void writeMemory(const T& value, void* buffer) {
    std::memcpy(buffer, &value, sizeof(T));
}
template <class T> void readMemory2(const void* buffer, T* destination) {
    std::memcpy(destination, buffer, sizeof(T));
}

#endif

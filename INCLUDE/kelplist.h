#pragma once
// List<T>: a growable array of values (here node pointers). The list owns its
// array, not what the elements point to. Broken invariants are fatal: they
// cannot follow from user input, only from a programming error.

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "orobase.h"

// The message names the broken condition as the list's own code states it.
#define KELPLIST_CHECK(expr, text)                                                                                     \
    do {                                                                                                               \
        if (!(expr))                                                                                                   \
            OroAssert("kelplist", __LINE__, text);                                                                     \
    } while (0)

template <typename T>
class List {
    static_assert(std::is_trivially_copyable_v<T>, "List<T> moves its elements as bytes");

public:
    explicit List(int32_t nInitialSize = 0) : element(nullptr), num(0), array_size(0)
    {
        if (nInitialSize != 0)
            SetSize(nInitialSize);
    }
    ~List() { delete[] element; }
    List(const List&) = delete;
    List& operator=(const List&) = delete;

    void Add(T t)
    {
        KELPLIST_CHECK(num <= array_size, "num<=array_size");
        if (num == array_size)
            SetSize(array_size == 0 ? 16 : array_size * 2);
        element[num++] = t;
    }

    // Puts t at position i (0 to GetNum()), moving the later elements up.
    void InsertAt(int32_t i, T t)
    {
        KELPLIST_CHECK(i >= 0 && i <= num, "i>=0 && i<=num");
        Add(t);
        if (i < num - 1) {
            std::memmove(static_cast<void*>(element + i + 1), element + i,
                         sizeof(T) * static_cast<uint32_t>(num - 1 - i));
            element[i] = t;
        }
    }

    void SetSize(int32_t s)
    {
        KELPLIST_CHECK(s > 0, "s>0");
        KELPLIST_CHECK(s >= num, "s>=num");
        T* pNew = new T[static_cast<uint32_t>(s)];
        KELPLIST_CHECK(pNew, "element");
        if (num > 0)
            std::memcpy(static_cast<void*>(pNew), element, sizeof(T) * static_cast<uint32_t>(num));
        delete[] element;
        element = pNew;
        array_size = s;
    }

    void Remove(T t)
    {
        int32_t i = 0;
        while (i < num && !(element[i] == t))
            ++i;
        KELPLIST_CHECK(i < num, "i<num");
        RemoveAt(i);
        // A value may be in a list only once.
        for (int32_t j = 0; j < num; ++j)
            KELPLIST_CHECK(element[j] != t, "element[i] != t");
    }

    void RemoveAt(int32_t i)
    {
        KELPLIST_CHECK(i >= 0 && i < num, "i<num");
        --num;
        if (i < num)
            std::memmove(static_cast<void*>(element + i), element + i + 1, sizeof(T) * static_cast<uint32_t>(num - i));
    }

    T& operator[](int32_t i)
    {
        KELPLIST_CHECK(i >= 0 && i < num, "i>=0 && i<num");
        return element[i];
    }
    const T& operator[](int32_t i) const
    {
        KELPLIST_CHECK(i >= 0 && i < num, "i>=0 && i<num");
        return element[i];
    }

    int32_t GetNum() const { return num; }
    int32_t GetArraySize() const { return array_size; }

private:
    T* element;
    int32_t num;
    int32_t array_size;
};

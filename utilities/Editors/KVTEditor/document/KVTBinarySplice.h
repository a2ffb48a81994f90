#pragma once
// Changing a range of a binary value: the bytes from an offset are replaced
// by others, of the same count (overwrite) or not (insert, delete, import).
// Every offset and count is checked against the value, and the new length
// must still fit the 32-bit length a field can store.

#include <cstdint>

#include "KVTTreeNodes.h"

// Replaces the nRemove bytes at nOffset with the nInsert bytes of pInsert.
// False, with the node unchanged, when the range lies outside the value,
// the result would pass 4 GiB - 1 bytes or its buffer cannot be had.
// The buffer is changed in place while it has room (m_nCapacity); a value
// that outgrows it moves to a new buffer with room to grow by 1/16 more, so
// a byte typed into a large value moves its tail, not the whole value.
bool SpliceBinaryValue(CKvtNodeBINARY& node, uint32_t nOffset, uint32_t nRemove, const uint8_t* pInsert,
                       uint32_t nInsert);

// The node's length (0 when it holds no buffer).
inline uint32_t BinaryValueSize(const CKvtNodeBINARY& node)
{
    return node.m_pData ? node.m_nDataSize : 0;
}

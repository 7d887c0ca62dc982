#pragma once
// The digest that tells one version of a notes file from another: the save
// and the load take it of the bytes they write and read.
#include "storage/file.h"

#include <cstddef>
#include <cstdint>

// FNV-1a, 64 bits: any byte changed changes it.
constexpr uint64_t kDigestStart = 14695981039346656037ull;
uint64_t DigestBytes(const void* pData, size_t nBytes, uint64_t nDigest = kDigestStart);
// The digest of the file's bytes from its position to its end; the
// position is back where it stood on return.
uint64_t DigestRest(CFile& file);

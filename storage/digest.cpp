#include "storage/digest.h"

uint64_t DigestBytes(const void* pData, size_t nBytes, uint64_t nDigest)
{
    for (auto p = static_cast<const uint8_t*>(pData); nBytes--; ++p)
        nDigest = (nDigest ^ *p) * 1099511628211ull;
    return nDigest;
}

uint64_t DigestRest(CFile& file)
{
    uint64_t nDigest = kDigestStart;
    int64_t nRead = 0;
    uint8_t buffer[16384];
    while (uint32_t nGot = file.Read(buffer, sizeof buffer)) {
        nDigest = DigestBytes(buffer, nGot, nDigest);
        nRead += nGot;
    }
    file.Seek(-nRead);
    return nDigest;
}

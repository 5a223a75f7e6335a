// Stand-ins for a broken converter library, one per KIND_* definition.
#include <cstdint>

#if defined(KIND_nofunction)
extern "C" __attribute__((visibility("default"))) int32_t SomethingElse() { return 0; }
#elif defined(KIND_silent)
// Says it worked, writes nothing.
extern "C" __attribute__((visibility("default"))) int32_t RsBmpToJpg(const char*, const char*, int32_t, int32_t)
{
    return 0;
}
#elif defined(KIND_huge)
// A result that does not fit in 16 bits.
extern "C" __attribute__((visibility("default"))) int32_t RsBmpToJpg(const char*, const char*, int32_t, int32_t)
{
    return 70000;
}
#endif

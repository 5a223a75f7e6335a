// Broken converter libraries, one per KIND_* definition.
#include <cstdint>

#define EXPORT extern "C" __attribute__((visibility("default")))
#if defined(KIND_nofunction)
EXPORT int32_t SomethingElse() { return 0; }
#elif defined(KIND_silent) // says it worked, writes nothing
EXPORT int32_t RsBmpToJpg(const char*, const char*, int32_t, int32_t) { return 0; }
#elif defined(KIND_huge) // a result that does not fit in 16 bits
EXPORT int32_t RsBmpToJpg(const char*, const char*, int32_t, int32_t) { return 70000; }
#endif

// Damaged levels may declare more memory than the machine has; the reader
// must then throw std::bad_alloc. Under AddressSanitizer that needs failed
// allocations to return null instead of aborting the test binary.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1:detect_leaks=1"; }

// Damaged levels may declare more memory than the machine has; opening one
// must then fail with std::bad_alloc, shown by the application. Under
// AddressSanitizer that needs failed allocations to return null instead of
// aborting the test binary.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1:detect_leaks=1"; }

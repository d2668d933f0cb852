#include "app/LeakCheck.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>

void checkLeaksBeforeDriverUnload() {
    __lsan_do_leak_check();
}
#else
void checkLeaksBeforeDriverUnload() {}
#endif

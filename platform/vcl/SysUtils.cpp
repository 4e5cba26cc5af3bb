#include "platform/vcl/SysUtils.h"

std::string IntToStr(int64_t value) {
    return std::to_string(value);
}

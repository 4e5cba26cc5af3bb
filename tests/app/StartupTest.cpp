#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/Startup.h"

namespace {

TEST(MissingDisplayMessage, IsEmptyOnlyWhenADisplayVariableIsSet) {
    struct EnvironmentCase {
        std::map<std::string, std::string> variables;
        bool missing;
    };
    const EnvironmentCase cases[] = {
        {{}, true},
        {{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}}, true},
        {{{"HOME", "/root"}}, true},
        {{{"DISPLAY", ":99"}}, false},
        {{{"WAYLAND_DISPLAY", "wayland-0"}}, false},
        {{{"QT_QPA_PLATFORM", "offscreen"}}, false},
    };
    for (const EnvironmentCase& c : cases) {
        const auto read = [&c](const char* name) -> const char* {
            const auto found = c.variables.find(name);
            return found != c.variables.end() ? found->second.c_str() : nullptr;
        };
        const std::string message = MissingDisplayMessage(read);
        EXPECT_EQ(message.empty(), !c.missing);
        // One line, so that it reads as one clear message on stderr.
        EXPECT_EQ(message.find('\n'), std::string::npos);
    }
}

}  // namespace

// The process entry of the viewer.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Main.h"
#include "app/Startup.h"

namespace {

void ShowAsException(const Exception& error) {
    Application->ShowException(&error);
}

}  // namespace

int main() {
    const std::string missingDisplay = MissingDisplayMessage([](const char* name) { return std::getenv(name); });
    if (!missingDisplay.empty()) {
        std::fprintf(stderr, "%s\n", missingDisplay.c_str());
        return 1;
    }
    try {
        Application->Initialize();
        Application->CreateForm(Form1);
        Application->Run();
    } catch (const Exception& error) {
        ShowAsException(error);
    } catch (...) {
        // Anything else is shown as an exception with no message.
        ShowAsException(Exception(""));
    }
    // Windows and the Qt application go before static storage is torn down.
    Application->Shutdown();
    return 0;
}

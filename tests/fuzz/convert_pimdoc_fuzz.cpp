#include "convert/PimDocument.h"
#include "platform/core/Prompt.h"

#include <cstddef>
#include <cstdint>

namespace {

// Swallows the parse-error box so the run stays quiet and fast.
class SilentPrompt : public Prompt {
public:
    int MessageBox(WindowHandle, const char*, const char*, unsigned) override { return IDOK; }
    bool RunCreateDbDialog(CreateDbRequest&) override { return false; }
    bool GetOpenFileName(FileDialogRequest&) override { return false; }
    bool GetSaveFileName(FileDialogRequest&) override { return false; }
};

} // namespace

// Any byte sequence loads into a version-1 document or is rejected, with no crash, leak or
// undefined behaviour in the reading of numbers, dates and rules.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SilentPrompt prompt;
    SetPrompt(&prompt);
    PimDocument document;
    document.Load(reinterpret_cast<const char*>(data), size);
    return 0;
}

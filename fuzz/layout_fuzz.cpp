// Feeds arbitrary bytes to layout::parse. A LayoutError is the expected answer to a bad file;
// anything else that escapes aborts. Every text the reader hands on, in a form or in an error,
// goes to the screen, so each must be UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "layout.h"

namespace {

const std::string kFileName = "fuzz.layout";

void requireUtf8(const std::string& text, const char* what, std::string_view input) {
    fuzz::require(fuzz::isUtf8(text), what, input);
}

void checkForm(const layout::Form& form, std::string_view input) {
    requireUtf8(form.name, "form name is not UTF-8", input);
    requireUtf8(form.caption, "form caption is not UTF-8", input);
    requireUtf8(form.linkTopic, "form link topic is not UTF-8", input);
    requireUtf8(form.picture, "form picture is not UTF-8", input);
    requireUtf8(form.icon, "form icon is not UTF-8", input);
    for (const layout::Control& c : form.controls) {
        requireUtf8(c.name, "control name is not UTF-8", input);
        requireUtf8(c.text, "control text is not UTF-8", input);
        requireUtf8(c.toolTip, "control tooltip is not UTF-8", input);
        requireUtf8(c.picture, "control picture is not UTF-8", input);
        requireUtf8(c.downPicture, "control down picture is not UTF-8", input);
        requireUtf8(c.disabledPicture, "control disabled picture is not UTF-8", input);
        if (c.font) {
            requireUtf8(c.font->face, "font face is not UTF-8", input);
        }
        fuzz::require(form.find(c.name) != nullptr, "a parsed control cannot be found", input);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        checkForm(layout::parse(bytes, kFileName), bytes);
    } catch (const layout::LayoutError& e) {
        const std::string message = e.what();
        requireUtf8(message, "error message is not UTF-8", bytes);
        fuzz::require(message.starts_with(kFileName + ":"), "error does not name the file", bytes);
        fuzz::require(e.line() >= 1, "error line is below 1", bytes);
    }
    return 0;
}

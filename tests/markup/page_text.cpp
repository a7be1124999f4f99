// Helpers of the markup tests: reset, scan, describe the page, read the message boxes.
#include "page_text.h"

#include "book/state_file.h"
#include "book/variables.h"
#include "markup/hotwords.h"
#include "markup/scanner.h"
#include "page/controls.h"
#include "page/display_list.h"
#include "platform/headless/headless.h"
#include "shell/navigation.h"

namespace markup_test {

void ResetAll() {
    headless::Reset();
    page::ResetDisplayList();
    page::ResetControls();
    page::BuildBold = false;
    book::ResetStoryVariables();
    book::ClearSnapshotFlags();
    book::SetSoundOn(1);
    markup::TitleMode = false;
    markup::SkipCount = 0;
    markup::HotwordCount = 0;
    shell::NextArrow = {0, 0};
    shell::PreviousArrow = {0, 0};
}

std::string Scan(const char* text) {
    page::ResetDisplayList();
    page::ResetControls();
    markup::MarkupScanner(text);
    return Describe();
}

std::string Describe() {
    std::string line;
    for (int i = 0; i < page::DisplayList.count; ++i) {
        const page::DisplayItem& item = page::DisplayList.items[i];
        if (!line.empty()) line += " | ";
        switch (item.kind) {
        case page::Text: line += "[" + std::string(item.text) + "]"; break;
        case page::Title: line += "T[" + std::string(item.text) + "]"; break;
        case page::BoldStart: line += "B"; break;
        case page::BoldEnd: line += "/B"; break;
        case page::LineBreak: line += "BR"; break;
        case page::BlankLine: line += "P"; break;
        case page::Tab: line += "TAB"; break;
        case page::AlignLeft: line += "L"; break;
        case page::AlignCenter: line += "C"; break;
        case page::AlignRight: line += "R"; break;
        case page::Picture:
            line += "pic" + std::to_string(item.index) + (item.inline_ != 0 ? "i" : "");
            break;
        case page::Button: {
            const page::ButtonEntry& button = page::ButtonTable[item.index];
            if (button.picture >= 0) {
                line += "btn$" + std::to_string(button.picture);
            } else {
                line += "btn[" + std::string(button.caption, button.caption + button.captionLength) + "]";
            }
            break;
        }
        case page::EditBox:
            line += "edit" + std::to_string(page::EditBoxTable[item.index].maxChars);
            break;
        default: line += "?" + std::to_string(item.kind); break;
        }
    }
    return line;
}

std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& box : headless::MessageBoxes()) texts.emplace_back(box.text.begin(), box.text.end());
    return texts;
}

}  // namespace markup_test

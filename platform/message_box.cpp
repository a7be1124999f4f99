// Modal message boxes. The device may answer a box at once (the headless device answers
// from a script); otherwise the window system shows the box itself and waits for a tap.
#include "platform/device.h"
#include "platform/platform.h"

namespace plat {
namespace {

constexpr char16_t DefaultCaption[] = u"Error";

bool IsAnswerOf(int32_t answer, uint32_t buttons) {
    if (buttons == BoxYesNo) return answer == AnswerYes || answer == AnswerNo;
    return answer == AnswerOk;
}

}  // namespace

int32_t MessageBox(WindowId owner, const char16_t* text, const char16_t* caption, uint32_t buttons) {
    if (text == nullptr) text = u"";
    if (caption == nullptr) caption = DefaultCaption;
    if (buttons != BoxYesNo) buttons = BoxOk;
    int32_t answer = device::Current().answerMessageBox(owner, text, caption, buttons);
    if (!IsAnswerOf(answer, buttons)) {
        // A device that cannot ask gets the answer that changes nothing.
        answer = buttons == BoxYesNo ? AnswerNo : AnswerOk;
    }
    return answer;
}

}  // namespace plat

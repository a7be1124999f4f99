// The built-in pages, each appended to the display list as a paragraph would be: the start
// sequence (presenter, title, book details), the button guide, the support and sound pages,
// and the fallback inventory and hints pages. Called by BuildSpecialPage and the page
// rebuild; the inventory page's buttons come back through SelectInventoryItem.
#include "shell/builtin_pages.h"

#include <cstdio>
#include <cstring>

#include "book/state_file.h"
#include "book/variables.h"
#include "page/controls.h"
#include "page/display_list.h"
#include "shell/commands.h"
#include "shell/navigation.h"

namespace shell {

bool InventoryPageShown = false;
bool SoundPageShown = false;
int16_t InventoryButtonIds[book::VariableCount] = {};

namespace {

constexpr int Left = 0;
constexpr int Centre = 1;
constexpr char CharacterName[] = "Character";
constexpr char VersionLine[] = " 1.0";
// The button guide's pictures: each a command-bar icon with its caption.
constexpr int16_t GuideFirstRow[] = {1101, 1102};               // question mark, R
constexpr int16_t GuideSecondRow[] = {1103, 1105, 1106, 1104};  // i, up, down, back

const char* OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

void Words(const char* text) {
    page::AppendWords(OrEmpty(text));
}

void LineBreaks(int count) {
    for (int i = 0; i < count; ++i) page::AppendLineBreak();
}

// Appends the brand word in three runs, its third letter bold; rest is the word's end with
// the one blank after it ("ewick " or "ewicks ").
void BrandWord(const char* rest) {
    page::AppendWords("ta");
    page::BoldOn();
    page::AppendWords("l");
    page::BoldOff();
    page::AppendWords(rest);
}

// Finds the reader's character: the last variable named exactly "Character" that has a
// list of texts (-1 for none). One without such a list has no value to show and counts as
// an ordinary item.
int CharacterVariable() {
    int found = -1;
    for (int v = 0; v < book::VariableCount; ++v) {
        const book::StoryVariable& variable = book::StoryVariableTable[v];
        if (variable.name != nullptr && std::strcmp(variable.name, CharacterName) == 0 &&
            variable.kind == book::TextChoice && variable.values != nullptr) {
            found = v;
        }
    }
    return found;
}

// Makes an inventory button; returns its id, or -1 when none was made (a full table).
int16_t InventoryButton(const char* caption) {
    const int16_t id = page::AddTextButton(caption);
    return id != 0 ? id : -1;
}

}  // namespace

void BuildPresentsPage() {
    page::SetAlignment(Centre);
    page::AppendBlankLine();
    page::AppendBookPicture(book::BookInfo.logoPicture, false);
    page::AppendBlankLine();
    page::SetAlignment(Centre);
    page::AppendWords("Presents");
    page::AppendLineBreak();
    page::SetAlignment(Left);
}

void BuildTitlePage() {
    page::SetAlignment(Centre);
    page::AppendBookPicture(book::BookInfo.titlePicture, false);
    page::AppendLineBreak();
    page::BoldOn();
    Words(book::BookInfo.title);
    page::BoldOff();
    page::AppendLineBreak();
    page::SetAlignment(Left);
}

void BuildBookDetailsPage() {
    const book::BookInfoRecord& info = book::BookInfo;
    page::SetAlignment(Centre);
    page::BoldOn();
    Words(info.title);
    page::AppendLineBreak();
    page::AppendWords(VersionLine);
    page::BoldOff();
    page::AppendLineBreak();
    page::SetAlignment(Left);
    page::AppendWords(" author: ");
    Words(info.author);
    page::AppendLineBreak();
    page::AppendWords(" contact: ");
    Words(info.contactAddress);
    page::AppendLineBreak();
    page::AppendWords(" support: ");
    Words(info.supportAddress);
    page::AppendLineBreak();
    page::AppendWords("copyright: ");
    Words(info.copyrightHolder);
    page::AppendLineBreak();
    Words(info.extraLine);
    page::AppendLineBreak();
}

void BuildButtonGuidePage() {
    page::AppendWords("The buttons below the Horizontal line ");
    page::AppendWords("at the bottom of the screen have the ");
    page::AppendWords("following actions. ");
    LineBreaks(2);
    for (int16_t bitmap : GuideFirstRow) page::AppendBitmap(bitmap);
    page::AppendLineBreak();
    page::AppendWords("The RESTART screen enables the ");
    page::AppendWords("reader to go back to an earlier ");
    page::AppendWords("screen. ");
    LineBreaks(2);
    for (int16_t bitmap : GuideSecondRow) page::AppendBitmap(bitmap);
    page::AppendLineBreak();
    page::AppendWords("The above three Arrows only appear if ");
    page::AppendWords("the function is available. ");
    LineBreaks(2);
    page::AppendWords("Further information can be found on ");
    page::AppendWords("the hints page selected from the menu.");
}

void BuildSupportPage() {
    const book::BookInfoRecord& info = book::BookInfo;
    page::SetAlignment(Centre);
    page::AppendBookPicture(info.logoPicture, false);
    page::AppendLineBreak();
    page::BoldOn();
    Words(info.webAddress);
    page::AppendLineBreak();
    page::AppendWords(VersionLine);
    page::BoldOff();
    page::AppendLineBreak();
    page::SetAlignment(Left);
    page::AppendLineBreak();

    page::AppendWords("For more information (FAQs) please visit our web site. ");
    page::AppendWords("If you have a query about \"");
    Words(info.title);
    page::AppendWords("\" email ");
    Words(info.supportAddress);
    page::AppendWords(" giving the title and the following alphanumerical code");
    LineBreaks(3);

    // The codes a reader quotes to support, as one run: A the reader's version, B the state
    // file's, O the platform's; C and P are fixed.
    char number[24];
    page::AppendWords("A 2.9.4; B ");
    std::snprintf(number, sizeof number, "%d", static_cast<int>(book::StateVersion));
    page::AppendWords(number);
    page::AppendWords("; C 3.56; O ");
    const plat::Version version = plat::PlatformVersion();
    std::snprintf(number, sizeof number, "%d.%d", static_cast<int>(version.major), static_cast<int>(version.minor));
    page::AppendWords(number);
    page::AppendWords("; P 1.10");

    InStory = false;
}

void BuildSoundPage() {
    LineBreaks(3);
    page::SetAlignment(Centre);
    if (!page::CreateSoundCheckBox()) return;
    LineBreaks(6);
    page::CreateTextButton("Ok", SoundOkCommand);
    page::AppendLineBreak();
    page::SetAlignment(Left);
    SoundPageShown = true;
}

void BuildHintsPage() {
    page::SetAlignment(Left);
    page::AppendWords("The idea of an ");
    BrandWord("ewick ");
    page::AppendWords(
        " is that you decide how the story ends by the choices you make along the way.  You can run the story "
        "as many times as you like to try out different scenarios.");
    page::AppendBlankLine();

    page::AppendWords("You interact with the ");
    BrandWord("ewick ");
    page::AppendWords(
        "by using your stylus to select boxes on the screen containing a word (or words) or by pressing arrows "
        "in the icon bar at the bottom of the screen.  ");
    page::AppendWords(
        "To understand what these arrows mean, tap the help icon '?' in the bottom left hand corner of your "
        "screen.");
    page::AppendBlankLine();

    page::AppendWords(
        "You may also collect items during the story which you can check any time by selecting inventory from "
        "the menu or the 'i' on the icon bar.  The inventory page lists all your items and tells you their "
        "status where they have one.  If you select an item from the list you will see further details about "
        "the item and you may be able to make changes.  This can be an important way of finding  clues to help "
        "you along, so remember to keep checking the inventory.");
    page::AppendBlankLine();

    page::AppendWords("Some ");
    BrandWord("ewicks ");
    page::AppendWords(
        "may contain a random element at some points.  This means that even when you make identical choices "
        "the story may not go exactly the same way each time - just to make it more exciting for you!");
    page::AppendBlankLine();

    page::AppendWords("If you get totally stuck, you can always e-mail us at  ");
    Words(book::BookInfo.supportAddress);
    page::AppendBlankLine();
}

void BuildInventoryPage() {
    const int character = CharacterVariable();
    for (int v = 0; v < book::VariableCount; ++v) InventoryButtonIds[v] = -1;
    if (character >= 0) {
        page::AppendWords("You are : ");
        // An index outside the list (a damaged state file) has no text: the button stays blank.
        InventoryButtonIds[character] = InventoryButton(OrEmpty(book::CurrentText(character)));
        page::AppendLineBreak();
    }

    page::AppendWords("You have the following items");
    for (int v = 0; v < book::VariableCount; ++v) {
        if (v == character || book::HeldByte(v) != 1) continue;
        page::AppendLineBreak();
        InventoryButtonIds[v] = InventoryButton(OrEmpty(book::StoryVariableTable[v].name));
        // Only a list of texts has a value to name (never a picture variable's numbers).
        if (const char* value = book::CurrentText(v); value != nullptr) {
            page::AppendWords(" : ");
            page::AppendWords(value);
        }
    }
}

void SelectInventoryItem(int32_t id) {
    for (int v = 0; v < book::VariableCount; ++v) {
        if (InventoryButtonIds[v] < 0 || InventoryButtonIds[v] != id) continue;
        const int description = book::StoryVariableTable[v].descriptionParagraph + 1;
        // Shown at once, as every move is; the number is checked there.
        GoToParagraph(static_cast<int16_t>(description), Aside);
        return;
    }
}

}  // namespace shell

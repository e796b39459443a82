#pragma once
// A window without a window: fields as a map of texts, and dialogs that
// record what they were asked and answer from a script.

#include "operations/point_list.h"
#include "operations/window_ports.h"

#include <deque>
#include <utility>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace hattsheet::testing {

using operations::FieldId;

struct ShownMessage {
    std::string text;
    std::string title;
    operations::MessageIcon icon;
    bool operator==(const ShownMessage&) const = default;
};

class FakeFields : public operations::Fields {
public:
    // The window's texts at start.
    FakeFields()
    {
        m_texts = {
            {FieldId::PhiOld, "40.51"}, {FieldId::LambdaOld, "-0.51"}, {FieldId::PhiNew, "40.45"},
            {FieldId::LambdaNew, "-0.45"}, {FieldId::X1, "0.000"},     {FieldId::Y1, "0.000"},
            {FieldId::X2, "0.000"},       {FieldId::Y2, "0.000"},     {FieldId::Lat, ""},
            {FieldId::LonAthens, ""},     {FieldId::LonGreenwich, ""}, {FieldId::File1, ""},
            {FieldId::File2, ""},
        };
    }
    std::string text(FieldId id) const override { return m_texts.at(id); }
    void setText(FieldId id, const std::string& text) override { m_texts[id] = text; }
    void appendText(FieldId id, const std::string& text) override { m_texts[id] += text; }
    void selectLine(FieldId id, unsigned long long line) override { selected = {id, line}; }
    void focus(FieldId id) override { focused = id; }
    void showNote(FieldId id, const std::string& text) override { notes.push_back({id, text}); }
    const std::map<FieldId, std::string>& all() const { return m_texts; }

    std::optional<std::pair<FieldId, unsigned long long>> selected;  // the panel line selected last
    std::optional<FieldId> focused;                                  // the field given the focus last
    std::vector<std::pair<FieldId, std::string>> notes;

private:
    std::map<FieldId, std::string> m_texts;
};

class FakeDialogs : public operations::Dialogs {
public:
    std::vector<ShownMessage> messages;
    // Answers of the file dialogs in order; std::nullopt is a cancel. An
    // exhausted script cancels.
    std::deque<std::optional<std::string>> fileAnswers;
    // Questions apart from the messages, each with its default answer; the
    // answers come from a script, and an exhausted one says Yes, so a test
    // about something else saves over an existing file as it always did.
    std::vector<ShownMessage> questions;
    std::vector<operations::DefaultAnswer> yesNoDefaults;
    std::deque<bool> yesNoAnswers;
    // Runs while a question is open (before it is answered): what another
    // process does to the files meanwhile.
    std::function<void()> whileAsked;

    void showMessage(const std::string& text, const std::string& title, operations::MessageIcon icon) override
    {
        messages.push_back({text, title, icon});
    }
    bool askYesNo(const std::string& text, const std::string& title, operations::DefaultAnswer preselected) override
    {
        questions.push_back({text, title, operations::MessageIcon::Question});
        yesNoDefaults.push_back(preselected);
        if (whileAsked) std::exchange(whileAsked, nullptr)();
        if (yesNoAnswers.empty()) return true;
        const bool a = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return a;
    }
    std::optional<std::string> chooseOpenFile(const std::string&, const std::vector<operations::FileFilter>&) override
    {
        return answer();
    }
    // The names each save dialog offered.
    std::vector<std::string> suggestions;
    std::optional<std::string> chooseSaveFile(const std::string&, const std::vector<operations::FileFilter>&,
                                              const std::string& suggested) override
    {
        suggestions.push_back(suggested);
        return answer();
    }
    // The types chosen in the save dialogs that tell it, in order (an index
    // in their filters); an exhausted script chooses none.
    std::deque<std::size_t> typeAnswers;
    std::optional<ChosenSave> chooseSaveFileOfType(const std::string& title,
                                                   const std::vector<operations::FileFilter>& filters,
                                                   const std::string& suggested) override
    {
        auto path = chooseSaveFile(title, filters, suggested);
        if (!path) return std::nullopt;
        std::size_t type = filters.size();
        if (!typeAnswers.empty()) {
            type = typeAnswers.front();
            typeAnswers.pop_front();
        }
        return ChosenSave{std::move(*path), type};
    }

private:
    std::optional<std::string> answer()
    {
        if (fileAnswers.empty()) return std::nullopt;
        auto a = fileAnswers.front();
        fileAnswers.pop_front();
        return a;
    }
};

// The batch conversion over panel 1 holding `list` and panel 2 holding
// `panel2`: what panel 2 holds after it, and the messages it showed.
struct BatchRun {
    std::string panel2;
    std::vector<ShownMessage> messages;
};
inline BatchRun runBatch(const std::string& list, const operations::TempPlaces& places, const std::string& panel2 = {})
{
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File1, list);
    fields.setText(FieldId::File2, panel2);
    operations::convertPointList(fields, dialogs, places);
    return {fields.text(FieldId::File2), dialogs.messages};
}

} // namespace hattsheet::testing

#pragma once
// In-memory controls: what the forms' logic sees of a text box, a list box,
// the open-file dialog and a window.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/runtime_error.h"

namespace kdesk {

class FakeTextBox : public TextBox {
public:
    explicit FakeTextBox(std::wstring text = {}) : text_(std::move(text)) {}
    std::wstring Text() const override { return text_; }
    void SetText(const std::wstring& text) override { text_ = text; }

private:
    std::wstring text_;
};

class FakeListBox : public ListBox {
public:
    void Clear() override {
        items_.clear();
        selected_ = -1;
    }
    void AddItem(const std::wstring& item) override { items_.push_back(item); }
    void RemoveItem(int index) override {
        if (index < 0 || index >= ListCount()) throw RuntimeError(kErrInvalidProcedureCall);
        items_.erase(items_.begin() + index);
        selected_ = -1;
    }
    int ListCount() const override { return static_cast<int>(items_.size()); }
    int ListIndex() const override { return selected_; }
    std::wstring List(int index) const override { return items_.at(static_cast<size_t>(index)); }
    void BeginUpdate() override { ++updates_; }
    void EndUpdate() override { --updates_; }

    void Select(int index) { selected_ = index; }
    const std::vector<std::wstring>& Items() const { return items_; }
    int OpenUpdates() const { return updates_; }

private:
    std::vector<std::wstring> items_;
    int selected_ = -1;
    int updates_ = 0;
};

// Plays back the operator's choices: each ShowOpen takes the next answer; an
// empty optional is a cancel.
class FakeOpenFileDialog : public OpenFileDialog {
public:
    void SetCancelError(bool cancelError) override { cancelError_ = cancelError; }
    void ShowOpen() override {
        ++shown_;
        std::optional<std::wstring> answer;
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
        if (!answer) {
            if (cancelError_) throw RuntimeError(kErrCancel, L"Cancel was selected.");
            return;
        }
        fileName_ = *answer;
    }
    std::wstring FileName() const override { return fileName_; }

    void QueueChoice(std::wstring file) { answers_.emplace_back(std::move(file)); }
    void QueueCancel() { answers_.emplace_back(std::nullopt); }
    int TimesShown() const { return shown_; }

private:
    std::deque<std::optional<std::wstring>> answers_;
    std::wstring fileName_;
    bool cancelError_ = false;
    int shown_ = 0;
};

class FakeWindow : public Window {
public:
    void Repaint() override { ++repaints_; }
    void Unload() override { unloaded_ = true; }
    int Repaints() const { return repaints_; }
    bool Unloaded() const { return unloaded_; }

private:
    int repaints_ = 0;
    bool unloaded_ = false;
};

}  // namespace kdesk

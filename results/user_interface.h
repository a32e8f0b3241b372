#pragma once

#include <string>

namespace dravik {

/// What an operation may ask of whoever shows it: the window answers with
/// message boxes, the command-line companion and the tests without a window.
/// Texts are Windows-1251 bytes.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    /// A plain message with the application's title as caption and one OK button.
    virtual void showMessage(const std::string& text) = 0;

    /// A question with the caption "Confirm" and the buttons Yes (the default)
    /// and No; true when the answer is Yes.
    virtual bool confirm(const std::string& question) = 0;
};

} // namespace dravik

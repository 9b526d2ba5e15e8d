#pragma once

// How the libraries below the platform layer show an error to the player: a message box with no
// owner and the error icon. The platform layer installs the box (InstallPlatformHooks); until then,
// and in tools, the message goes to standard error as "<caption>: <text>".

#include <functional>
#include <string>

using ErrorMessageHook = std::function<void(const std::string& caption, const std::string& text)>;

// An empty function restores the default.
void SetErrorMessageHook(ErrorMessageHook hook);
void ShowErrorMessage(const std::string& caption, const std::string& text);

#include "support/ErrorMessage.h"

#include <iostream>

namespace {

ErrorMessageHook& Hook()
{
    static ErrorMessageHook hook;
    return hook;
}

} // namespace

void SetErrorMessageHook(ErrorMessageHook hook)
{
    Hook() = std::move(hook);
}

void ShowErrorMessage(const std::string& caption, const std::string& text)
{
    if (Hook())
        Hook()(caption, text);
    else
        std::cerr << caption << ": " << text << std::endl;
}

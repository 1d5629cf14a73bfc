#include "platform/KeySender.h"

#include "platform/PlatformBackends.h"

#include <windows.h>

#include <vector>

namespace {

// SendInput: the keys go to the foreground window as if typed.
class CWindowsKeySender : public IKeySender
{
public:
    bool isAvailable() const override { return true; }

    bool send(QKeyCombination keys) override
    {
        const int k = keys.key();
        if (!((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9)))
            return false;
        std::vector<WORD> modifiers;
        const Qt::KeyboardModifiers mods = keys.keyboardModifiers();
        if (mods & Qt::ControlModifier)
            modifiers.push_back(VK_CONTROL);
        if (mods & Qt::ShiftModifier)
            modifiers.push_back(VK_SHIFT);
        if (mods & Qt::AltModifier)
            modifiers.push_back(VK_MENU);
        if (mods & Qt::MetaModifier)
            modifiers.push_back(VK_LWIN);

        std::vector<INPUT> inputs;
        const auto add = [&inputs](WORD vk, bool up) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = vk;
            in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(in);
        };
        for (WORD m : modifiers)
            add(m, false);
        add(WORD(k), false);
        add(WORD(k), true);
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
            add(*it, true);
        return SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
    }
};

}  // namespace

std::unique_ptr<IKeySender> PlatformBackends::createWindowsKeySender()
{
    return std::make_unique<CWindowsKeySender>();
}

// The global input signals and the builders behind the shell's window
// procedure. Main thread only.

#include "shell/InputMap.h"

#include "shell/Platform.h"

namespace
{

int g_lastX = 0;
int g_lastY = 0;

void EmitKeyboard(unsigned action, int key, bool character)
{
    CInputMap input;
    input.Key = key;
    input.Action = action;
    input.Code = static_cast<unsigned>(key);
    input.Character = character;
    GetKeyboardSignal().Emit(input);
}

} // namespace

CSignal<CInputMap&>& GetKeyboardSignal()
{
    // Never destroyed, so statics of any translation unit may outlive it.
    static auto* const signal = new CSignal<CInputMap&>();
    return *signal;
}

CSignal<CInputMap&>& GetMouseSignal()
{
    static auto* const signal = new CSignal<CInputMap&>();
    return *signal;
}

CVector GetMousePosition()
{
    return CVector(static_cast<float>(g_lastX), static_cast<float>(g_lastY), 0.0f, 0.0f);
}

CVector GetCursorScreenPosition()
{
    int x = 0;
    int y = 0;
    GetPlatform().GetCursorScreenPosition(x, y);
    return CVector(static_cast<float>(x), static_cast<float>(y), 0.0f, 0.0f);
}

void EmitKeyEvent(unsigned action, int key)
{
    EmitKeyboard(action, key, false);
}

void EmitCharEvent(int character)
{
    EmitKeyboard(CInputMap::Press, character, true);
}

void EmitMouseMove(int x, int y)
{
    g_lastX = x;
    g_lastY = y;
    CInputMap input;
    input.Position.Set(static_cast<float>(x), static_cast<float>(y));
    input.Action = CInputMap::Move;
    input.Code = CInputMap::PointerCode;
    GetMouseSignal().Emit(input);
}

void EmitMouseButton(unsigned action, unsigned button)
{
    CInputMap input;
    input.Position.Set(static_cast<float>(g_lastX), static_cast<float>(g_lastY));
    input.Action = action;
    input.Code = button;
    GetMouseSignal().Emit(input);
}

void EmitMouseWheel(int delta)
{
    CInputMap input;
    input.Key = delta;
    input.Action = CInputMap::Wheel;
    input.Code = CInputMap::PointerCode;
    GetMouseSignal().Emit(input);
}

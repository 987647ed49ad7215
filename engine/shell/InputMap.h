// One keyboard or mouse event, built by the shell's window procedure and
// emitted at once on the global keyboard or mouse signal; no queue, no key
// states. Also the last pointer position and the cursor's screen position.
#pragma once

#include "core/Signal.h"
#include "core/Vector.h"

class CInputMap
{
public:
    enum Actions : unsigned
    {
        Release = 0,
        Press = 1,
        DoubleClick = 2,
        Move = 3,
        Wheel = 4,
    };
    enum Buttons : unsigned
    {
        Left = 0,
        Right = 1,
        Middle = 2,
    };
    // The code of move and wheel events, which concern no button.
    static constexpr unsigned PointerCode = 146;

    // Key code for keyboard events, signed delta for the wheel (120 a
    // notch, positive away from the user), 0 for other mouse events.
    int Key = 0;
    // Client pixels, origin top-left, for move and button events; zero else.
    CVector Position;
    unsigned Action = Release;
    // Key code for keyboard events, the button for button events, else 146.
    unsigned Code = 0;
};

// Both signals are made on first use and live as long as the process.
CSignal<CInputMap&>& GetKeyboardSignal();
CSignal<CInputMap&>& GetMouseSignal();

// (x, y, 0, 0) of the last pointer move in client pixels; (0, 0) before any.
CVector GetMousePosition();
// (x, y, 0, 0) of the cursor on the screen, read now.
CVector GetCursorScreenPosition();

// The builders the window procedure calls, one record per message.
void EmitKeyEvent(unsigned action, int key);
// Stores (x, y) as the last pointer position before emitting.
void EmitMouseMove(int x, int y);
// Reports the last move's position, not the click's own.
void EmitMouseButton(unsigned action, unsigned button);
void EmitMouseWheel(int delta);

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
    // Key codes of keyboard events and of the platform's key messages.
    // Letters and digits are their upper-case ASCII characters ('A', '7');
    // backspace, tab, return and escape share their control characters' codes.
    enum Keys : int
    {
        KeyBackspace = 8,
        KeyTab = 9,
        KeyReturn = 13,
        KeyShift = 16,
        KeyControl = 17,
        KeyAlt = 18,
        KeyPause = 19,
        KeyCapsLock = 20,
        KeyEscape = 27,
        KeySpace = 32,
        KeyPageUp = 33,
        KeyPageDown = 34,
        KeyEnd = 35,
        KeyHome = 36,
        KeyArrowLeft = 37, // the four arrows are consecutive
        KeyArrowUp = 38,
        KeyArrowRight = 39,
        KeyArrowDown = 40,
        KeyPrintScreen = 44,
        KeyInsert = 45,
        KeyDelete = 46,
        KeyLeftSystem = 91,
        KeyRightSystem = 92,
        KeyMenu = 93,
        KeyPad0 = 96, // to KeyPad0 + 9
        KeyPadMultiply = 106,
        KeyPadAdd = 107,
        KeyPadSubtract = 109,
        KeyPadDecimal = 110,
        KeyPadDivide = 111,
        KeyF1 = 112, // to KeyF1 + 11
        KeyNumLock = 144,
        KeyScrollLock = 145,
        KeySemicolon = 186,
        KeyEquals = 187,
        KeyComma = 188,
        KeyMinus = 189,
        KeyPeriod = 190,
        KeySlash = 191,
        KeyGrave = 192,
        KeyLeftBracket = 219,
        KeyBackslash = 220,
        KeyRightBracket = 221,
        KeyApostrophe = 222,
        KeyExtraBackslash = 226, // beside left shift on 102-key boards
    };
    // The code of move and wheel events, which concern no button.
    static constexpr unsigned PointerCode = 146;

    // Key code for keyboard events, signed delta for the wheel
    // (CPlatform::WheelNotch a notch, positive away from the user), 0 for
    // other mouse events.
    int Key = 0;
    // Client pixels, origin top-left, for move and button events; zero else.
    CVector Position;
    unsigned Action = Release;
    // Key code for keyboard events, the button for button events, else
    // PointerCode.
    unsigned Code = 0;
    // A press that came from a character message: Key is then a character
    // code, not a key code. The two overlap ('%' is 37, as is the left
    // arrow), so text entries take only these presses.
    bool Character = false;
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
// A press of a typed character (Latin-1) or of a control character.
void EmitCharEvent(int character);
// Stores (x, y) as the last pointer position before emitting.
void EmitMouseMove(int x, int y);
// Reports the last move's position, not the click's own.
void EmitMouseButton(unsigned action, unsigned button);
void EmitMouseWheel(int delta);

// The manager without a window: mouse records emitted on the global mouse
// signal, as the window procedure emits them, and the signals each control
// receives in return.
#include "gui/GUIManager.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "gui/GUI.h"
#include "shell/InputMap.h"
#include "support/MouseEvents.h"

namespace
{

// Writes "name:signal" for every signal of one control into a shared log.
struct Probe
{
    Probe(CGUI& control, std::string name, std::string& log) : name(std::move(name)), log(log)
    {
        ConnectSlot(slots, control.Input, this, &Probe::OnInput);
        ConnectSlot(slots, control.MouseOver, this, &Probe::OnOver);
        ConnectSlot(slots, control.MouseOut, this, &Probe::OnOut);
        ConnectSlot(slots, control.FocusChanged, this, &Probe::OnFocus);
        ConnectSlot(slots, control.Pressed, this, &Probe::OnPressed);
        ConnectSlot(slots, control.Clicked, this, &Probe::OnClicked);
        ConnectSlot(slots, control.DoubleClicked, this, &Probe::OnDouble);
    }
    void Write(const std::string& what) { log += (log.empty() ? "" : " ") + name + ":" + what; }
    void OnInput(CInputMap& event) { Write("in" + std::to_string(event.Action)); }
    void OnOver() { Write("over"); }
    void OnOut() { Write("out"); }
    void OnFocus(bool on) { Write(on ? "focus1" : "focus0"); }
    void OnPressed() { Write("pressed"); }
    void OnClicked() { Write("clicked"); }
    void OnDouble() { Write("double"); }

    std::string name;
    std::string& log;
    Connections slots;
};

CGUI* AddControl(CGUIManager& manager, float x, float y, float size, bool enabled = true)
{
    CGUI* control = manager.Append(std::make_unique<CGUI>());
    control->SetEnabled(enabled);
    control->SetPosition(x, y);
    control->SetSize(size, size);
    return control;
}

} // namespace

TEST(GUIManager, DispatchFollowsTheTableAndTheEarlierControlWins)
{
    CGUIManager manager;
    std::string log;
    // A and B overlap on 50..100; C is disabled and D hidden, both over all.
    Probe a(*AddControl(manager, 0, 0, 100), "A", log);
    Probe b(*AddControl(manager, 50, 50, 100), "B", log);
    Probe c(*AddControl(manager, 0, 0, 400, false), "C", log);
    AddControl(manager, 0, 0, 400)->SetVisible(false);
    Probe d(*manager.GetControl(3), "D", log);

    struct Step
    {
        unsigned action;
        float x, y;
        const char* expected;
    };
    const Step steps[] = {
        {CInputMap::Move, 75, 75, "A:over B:out"},
        {CInputMap::Press, 75, 75, "A:focus1 A:in1 A:pressed"},
        {CInputMap::Move, 120, 120, "A:in3 A:out B:over"},
        {CInputMap::Release, 120, 120, "A:in0"}, // outside A: no click
        {CInputMap::Press, 120, 120, "A:focus0 B:focus1 B:in1 B:pressed"},
        {CInputMap::Release, 120, 120, "B:in0 B:clicked"},
        {CInputMap::DoubleClick, 120, 120, "B:in2 B:double"},
        {CInputMap::Wheel, 0, 0, "B:in4"},
        {CInputMap::Press, 130, 130, "B:in1 B:pressed"}, // focus stays
        {CInputMap::Press, 300, 300, "B:focus0"},
        {CInputMap::Release, 300, 300, ""},
        {CInputMap::Move, 300, 300, "A:out B:out"},
    };
    for (const Step& step : steps)
    {
        log.clear();
        EmitMouse(step.action, step.x, step.y);
        EXPECT_EQ(log, step.expected) << "action " << step.action << " at " << step.x;
    }
    EXPECT_EQ(manager.GetActive(), nullptr);
}

TEST(GUIManager, OwnsItsControlsAndLetsHandlersAppendMidDispatch)
{
    struct Appender
    {
        void OnOver()
        {
            for (int i = 0; i < 8; ++i)
                manager->Append(std::make_unique<CGUI>())->SetEnabled(true);
        }
        CGUIManager* manager;
        Connections slots;
    };
    auto manager = std::make_unique<CGUIManager>();
    CGUI* parent = AddControl(*manager, 0, 0, 10);
    CGUI* child = AddControl(*manager, 0, 0, 10);
    parent->SetName("twin");
    child->SetName("twin");
    child->SetParent(parent);
    EXPECT_EQ(manager->FindByName("twin"), parent);

    // The walk goes on while the list reallocates under it.
    Appender appender{manager.get(), {}};
    ConnectSlot(appender.slots, parent->MouseOver, &appender, &Appender::OnOver);
    EmitMouse(CInputMap::Move, 5, 5);
    EXPECT_EQ(manager->GetCount(), 10u);
    // The parent goes first; its child's destruction must not reach it.
    manager.reset();
}

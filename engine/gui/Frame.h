// A border of eight cells around the frame's rectangle: corners 0, 2, 5, 7
// (top-left, top-right, bottom-left, bottom-right), edges 1 (top), 3
// (left), 4 (right) and 6 (bottom). The edges stretch with the frame; the
// border vector pulls the cells outwards. Not hit by default.
#pragma once

#include "core/Vector.h"
#include "gui/GUI.h"

class CXMLNode;

class CFrame : public CGUI
{
public:
    static constexpr unsigned CellCount = 8;

    CFrame();

    // The frame, then the cells in index order one unit nearer.
    void Draw() override;
    // From another frame also the cells and the border.
    void CopyFrom(const CGUI& other) override;
    // "borderX" and "borderY", 0 when absent.
    void LoadAttributes(const CXMLNode& node) override;

    // The cell copies `control`; an index outside 0..7 is ignored.
    void SetCell(int index, const CGUI& control);
    // Emits Moved and Resized with the current position and size, which
    // lays the cells out.
    void Refresh();
    void SetBorder(float x, float y) { m_border.Set(x, y); }
    const CVector& GetBorder() const { return m_border; }
    // Null outside 0..7.
    CGUI* Cell(int index);

private:
    void OnResized(float w, float h);
    void OnMoved(float x, float y);
    void PlaceCells();

    CGUI m_cells[CellCount];
    CVector m_border;
};

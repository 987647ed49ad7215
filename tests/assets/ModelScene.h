// The model demo's scene, shared with its GL test: a height map and an OBJ
// model loaded through the resource manager and drawn side by side under
// one directional light, in an orthographic view 8 units wide and 6 high
// (y up): the ground centred at (-2, 0), the model at (2, 0).
#pragma once

#include <algorithm>

#include <GL/gl.h>

#include "assets/Model.h"
#include "assets/ResourceManager.h"
#include "core/Matrix.h"
#include "render/Draw.h"
#include "render/Light.h"

class ModelScene
{
public:
    // The description must hold a "ground" and a "model" with vertices.
    bool Load(const char* description, const char* modelName)
    {
        if (!m_manager.Load(description))
            return false;
        m_ground = dynamic_cast<CModel*>(m_manager.Find("ground"));
        m_model = dynamic_cast<CModel*>(m_manager.Find(modelName));
        if (!m_ground || !m_model || m_ground->GetShape().GetVertexCount() == 0 ||
            m_model->GetShape().GetVertexCount() == 0)
            return false;
        CMaterial& ground = m_ground->GetShape().GetMaterial();
        ground.SetAmbient(CVector(0.05f, 0.1f, 0.05f, 1));
        ground.SetDiffuse(CVector(0.3f, 0.8f, 0.3f, 1));
        // The model's colours come from its materials.
        m_model->GetShape().GetMaterial().SetAmbient(CVector(0.1f, 0.1f, 0.1f, 1));
        return true;
    }

    void Draw(int width, int height)
    {
        SetViewport(0, 0, width, height);
        const CMatrix projection = OrthoMatrix(-4, 4, -3, 3, -100, 100);
        LoadProjection(&projection);
        const CMatrix identity(4, 4);
        LoadModelView(&identity);
        ClearScreen(0.1f, 0.1f, 0.2f, 1);

        // The engine's normals follow clockwise winding (its flat world has y
        // down), so the counter-clockwise faces of a y-up model and of the
        // height map get normals pointing inward: the light is set opposite
        // to where it seems to come from, the viewer's upper right.
        CLight light;
        light.position.Set(-0.3f, -0.5f, -1, 0);
        light.colours.SetAmbient(CVector(0.2f, 0.2f, 0.2f, 1));
        light.colours.SetDiffuse(CVector(1, 1, 1, 1));
        ApplyLight(0, light);

        // Heights are bytes: squash them to 1.5 units over the grid.
        DrawFitted(*m_ground, -2, 3.4f, 40, 0, 1.5f);
        DrawFitted(*m_model, 2, 2, 25, -35, 0);
    }

    CResourceManager& GetManager() { return m_manager; }

private:
    // Centred on (x, 0), `size` units across its widest side, turned about
    // x and then y; `height` > 0 sets the y extent apart from the others.
    static void DrawFitted(CModel& model, float x, float size, float tilt, float turn,
                           float height)
    {
        const CVector& lo = model.GetBoundsMin();
        const CVector& hi = model.GetBoundsMax();
        const float tall = height > 0 ? 0 : hi.y - lo.y;
        const float across = std::max({hi.x - lo.x, tall, hi.z - lo.z, 1e-6f});
        const float scale = size / across;
        const float yScale = height > 0 ? height / std::max(hi.y - lo.y, 1e-6f) : scale;
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glTranslatef(x, 0, 0);
        glRotatef(tilt, 1, 0, 0);
        glRotatef(turn, 0, 1, 0);
        glScalef(scale, yScale, scale);
        glTranslatef(-(lo.x + hi.x) / 2, -(lo.y + hi.y) / 2, -(lo.z + hi.z) / 2);
        model.GetShape().Draw();
        glPopMatrix();
    }

    CResourceManager m_manager;
    CModel* m_ground = nullptr;
    CModel* m_model = nullptr;
};

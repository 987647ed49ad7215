// Base of every named, loadable resource (images, sprites, sounds, models).
// The resource manager finds resources by name or by the file they came from.
#pragma once

#include "core/String.h"

class CResource
{
public:
    enum Kind
    {
        KindImage = 1,
        KindSprite = 2,
        KindSound = 3,
        KindSoundStream = 4,
        KindModel = 5
    };

    explicit CResource(int kind) : m_kind(kind) {}
    virtual ~CResource();

    const String& GetName() const { return m_name; }
    void SetName(const String& name) { m_name = name; }
    const String& GetFileName() const { return m_fileName; }
    void SetFileName(const String& fileName) { m_fileName = fileName; }
    int GetKind() const { return m_kind; }

protected:
    String m_name;
    String m_fileName;
    int m_kind;
};

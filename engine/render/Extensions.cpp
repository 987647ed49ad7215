// Entry points come from the platform's procedure look-up. The table and the
// capability record are process-wide and belong to the GL thread.

#include "render/Extensions.h"

#include <cstring>

#include "render/detail/ExtensionLoader.h"
#include "shell/Platform.h"

namespace
{

GLEntryPoints g_entryPoints;
GLCapabilities g_capabilities;

template <typename Function>
bool Fetch(const render_detail::ProcLookup& lookup, const char* name, Function& entry)
{
    if (!entry)
        entry = reinterpret_cast<Function>(lookup(name));
    return entry != nullptr;
}

// In table order; the first missing one ends the fetching.
bool FetchShaderEntryPoints(GLEntryPoints& t, const render_detail::ProcLookup& l)
{
    return Fetch(l, "glCreateShader", t.glCreateShader) &&
           Fetch(l, "glShaderSource", t.glShaderSource) &&
           Fetch(l, "glCompileShader", t.glCompileShader) &&
           Fetch(l, "glCreateProgram", t.glCreateProgram) &&
           Fetch(l, "glAttachShader", t.glAttachShader) &&
           Fetch(l, "glLinkProgram", t.glLinkProgram) && Fetch(l, "glUseProgram", t.glUseProgram) &&
           Fetch(l, "glDetachShader", t.glDetachShader) &&
           Fetch(l, "glDeleteShader", t.glDeleteShader) &&
           Fetch(l, "glDeleteProgram", t.glDeleteProgram) &&
           Fetch(l, "glGetUniformLocation", t.glGetUniformLocation) &&
           Fetch(l, "glUniform1iv", t.glUniform1iv) && Fetch(l, "glUniform2iv", t.glUniform2iv) &&
           Fetch(l, "glUniform3iv", t.glUniform3iv) && Fetch(l, "glUniform4iv", t.glUniform4iv) &&
           Fetch(l, "glUniform1fv", t.glUniform1fv) && Fetch(l, "glUniform2fv", t.glUniform2fv) &&
           Fetch(l, "glUniform3fv", t.glUniform3fv) && Fetch(l, "glUniform4fv", t.glUniform4fv) &&
           Fetch(l, "glUniformMatrix2fv", t.glUniformMatrix2fv) &&
           Fetch(l, "glUniformMatrix3fv", t.glUniformMatrix3fv) &&
           Fetch(l, "glUniformMatrix4fv", t.glUniformMatrix4fv) &&
           Fetch(l, "glGetShaderInfoLog", t.glGetShaderInfoLog) &&
           Fetch(l, "glGetProgramInfoLog", t.glGetProgramInfoLog);
}

void* PlatformLookup(const char* name)
{
    return GetPlatform().GetProcAddress(name);
}

} // namespace

namespace render_detail
{

bool LoadExtensionInto(GLEntryPoints& t, const String& name, const ProcLookup& lookup,
                       const char* extensions)
{
    if (name == "GL_ARB_multitexture")
        return Fetch(lookup, "glActiveTextureARB", t.glActiveTextureARB) &&
               Fetch(lookup, "glClientActiveTextureARB", t.glClientActiveTextureARB);
    if (name == "GL_ARB_vertex_buffer_object")
        return Fetch(lookup, "glBindBufferARB", t.glBindBufferARB) &&
               Fetch(lookup, "glGenBuffersARB", t.glGenBuffersARB) &&
               Fetch(lookup, "glBufferDataARB", t.glBufferDataARB) &&
               Fetch(lookup, "glDeleteBuffersARB", t.glDeleteBuffersARB);
    if (name == "GL_ARB_vertex_shader" || name == "GL_ARB_fragment_shader")
    {
        if (!FetchShaderEntryPoints(t, lookup))
            return false;
    }
    // There is no WGL here, so its pixel-format extension is never present.
    if (name == "WGL_ARB_extensions_string")
        return false;
    // A plain substring match: a longer extension's name that contains this
    // one counts too.
    return extensions && std::strstr(extensions, name.GetText()) != nullptr;
}

} // namespace render_detail

const GLEntryPoints& GetGLEntryPoints()
{
    return g_entryPoints;
}

const GLCapabilities& GetGLCapabilities()
{
    return g_capabilities;
}

bool LoadExtension(const String& name)
{
    return render_detail::LoadExtensionInto(g_entryPoints, name, &PlatformLookup, GetGLExtensions());
}

const char* GetGLExtensions()
{
    const GLubyte* text = glGetString(GL_EXTENSIONS);
    return text ? reinterpret_cast<const char*>(text) : "";
}

bool QueryMultitexture()
{
    return LoadExtension("GL_ARB_multitexture");
}

bool QueryVertexBufferObject()
{
    return LoadExtension("GL_ARB_vertex_buffer_object");
}

bool QueryVertexShader()
{
    return LoadExtension("GL_ARB_vertex_shader");
}

bool QueryFragmentShader()
{
    return LoadExtension("GL_ARB_fragment_shader");
}

int InitGLState()
{
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_NORMALIZE);
    glEnable(GL_LIGHTING);
    // These three stay on for the context's life; drawables rely on it.
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);

    g_capabilities.multitexture = QueryMultitexture();
    g_capabilities.vertexBufferObject = QueryVertexBufferObject();
    g_capabilities.vertexShader = QueryVertexShader();
    g_capabilities.fragmentShader = QueryFragmentShader();
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
    g_capabilities.textureUnits = units;
    return units;
}

// The SDL and SDL_Renderer back ends of Dear ImGui, built from the sources
// that the Debian package ships.
#include "/usr/share/doc/libimgui-dev/examples/backends/imgui_impl_sdl.cpp"
#include "/usr/share/doc/libimgui-dev/examples/backends/imgui_impl_sdlrenderer.cpp"

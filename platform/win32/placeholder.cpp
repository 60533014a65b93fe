// Win32 services live beside this file.
namespace kdesk {}

// In-memory services with Windows semantics live beside this file.
namespace kdesk {}

// Keeps the ui library non-empty until the windows land.
namespace corvelin_ui_placeholder {}

// Keeps the view folder non-empty until the list's rows land.
namespace corvelin_view_placeholder {}

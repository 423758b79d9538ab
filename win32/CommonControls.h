#pragma once

namespace Orvanel::Win32 {

// Registers the common control classes the dialog templates use (trackbars) in the process;
// harmless when they already are.
void RegisterBarControls();

} // namespace Orvanel::Win32

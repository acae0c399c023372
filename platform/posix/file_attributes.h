#pragma once

namespace pelmo::platform {

// Gives the file open as to what belongs to the file open as from: its owner and
// group where the user may set them, its mode, its extended attributes and ACL.
// When the ACL cannot be carried over, the group and others lose every permission
// rather than gain the ACL's mask. False only when the mode cannot be set.
bool CopyOwnershipAndAttributes(int from, int to);

}  // namespace pelmo::platform

// "Remove duplicate frames": consecutive image frames that show the same
// picture become one that shows it for as long as they did.
#pragma once

// Each image frame that shows exactly the screen the image frame before it
// shows, and leaves the screen as that one leaves it for the next frame, is
// merged into it: the earlier frame takes the later one's delay as well
// (while the sum fits 65535) and the later one goes. Screens are composed by
// the GIF rules (transparent pixels pass, disposal 2 clears the frame's
// rectangle, 3 puts the screen back) and compared colour by colour. Comment
// entries stay. Returns how many frames went, or -1 with the document
// unchanged when a frame's pixels or a screen cannot be had in memory.
int RemoveDuplicateFrames();

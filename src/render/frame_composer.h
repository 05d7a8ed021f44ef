// The picture the image view shows for the current frame, composed from the
// picture kept from the previous refresh. Stepping forward over image frames
// (comments between them pass) draws each frame over what was shown; every
// other move shows the frame alone. Nothing is ever replayed from frame 0.
//
// The three pictures live for the whole run:
//   retainedPicture  what the previous refresh showed, kept for the next one
//                    (no block and frame -1 once discarded);
//   newPicture       built by the current refresh; after it, its left, top,
//                    width, height and frame keep describing what the view
//                    shows whatever became of its block;
//   framePicture     scratch copy of the current frame's pixels while
//                    composing, empty otherwise.
// A refresh of an image frame calls BuildNewPicture; when it succeeds, the
// user interface makes its bitmap from newPicture, then calls
// RetainNewPicture. DiscardRetainedPicture may come at any time. A build
// that draws the frame on the retained block itself takes that block, and
// the retained picture is discarded from then on, as RetainNewPicture would
// have done.
#pragma once

#include "render/picture_buffer.h"

extern PictureBuffer retainedPicture;
extern PictureBuffer newPicture;
extern PictureBuffer framePicture;

// True when the current frame is drawn over the retained picture: the
// retained picture has a block, shows an earlier entry, and nothing but
// comment entries lie between it and the current frame.
bool ComposesOverRetained();

// Builds newPicture for doc.currentFrame, which must be an image frame.
// When the frame lies inside the retained picture, the retained block
// becomes newPicture's. False when memory cannot be had or the composed
// rectangle would be larger than kMaxPictureSide or kMaxPictureSize:
// newPicture then has no block and describes the current frame alone,
// framePicture is empty and the retained picture is as it was, so the next
// refresh starts from the same place.
bool BuildNewPicture();

// After the bitmap was made: the new picture becomes the retained one unless
// only dirty rectangles are shown or the current frame's disposal restores
// (disposal 2, 3, 6, 7); then its block is freed and the retained picture
// discarded.
void RetainNewPicture();

// The retained picture is freed and marked discarded.
void DiscardRetainedPicture();

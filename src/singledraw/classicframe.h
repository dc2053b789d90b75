#pragma once
// Draws a group box the classic way: an etched line all round whose top edge
// runs through the middle of the caption. Qt's own styles put the caption
// above the frame and start the line lower, where it would cut through option
// buttons laid out for the classic frame.

class QGroupBox;

namespace qh {

// Takes over the painting of box for as long as it lives.
void useClassicFrame(QGroupBox &box);

} // namespace qh

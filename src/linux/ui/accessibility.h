// SPDX-License-Identifier: MIT
#pragma once

class QLabel;
class QWidget;

namespace qni {

struct ResultBoxes;

// What assistive technology (screen readers, through the desktop's
// accessibility bus) is told beyond what Qt infers from the widgets.

// Names each result box after its row label without the colon, and makes the
// label its buddy (the "labelled by" relation). Without this a box takes the
// title of its frame, which several boxes share.
void nameResultBoxes(ResultBoxes& boxes);

// A status bar whose every new caption is announced, while it is showing, as
// a notification that a screen reader speaks wherever the focus is.
void markAsStatusLine(QLabel& label);
void announceCaption(QLabel& label);

// A label that acts as a link: its accessible "Press" action emits
// linkActivated with the label's text, as a click would open it.
void markAsLink(QLabel& label);

// A window read as a dialog: title, then its accessible description.
void markAsDialog(QWidget& window);

} // namespace qni

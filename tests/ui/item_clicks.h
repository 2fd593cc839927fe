#pragma once
// Choosing an item of a list or tree as a user does: a mouse click on the
// view's viewport where the item is drawn. Setting the current index through
// the API would pass over what a real click does in the view's order of
// events (the current item moves before the selection does).
#include <QAbstractItemView>

// Scrolls the item into view and clicks it with the left button; the view
// must be shown.
void ClickItem(QAbstractItemView& view, const QModelIndex& item);

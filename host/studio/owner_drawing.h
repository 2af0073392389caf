// Drawing an owner-drawn list entry with a QPainter: the dialog draws, the painter paints.
#pragma once

#include <QPainter>
#include <QPalette>
#include <QRect>

#include "sdk/platform_ui.h"

namespace sorvane::studio {

// Has `model` draw entry `state.index` of its owner-drawn list `id` into `area`; the dialog
// sees a rectangle with its top left corner at (0, 0). `state.rect` is set here.
void drawOwnerDrawnItem(ui::Dialog &model, int id, ui::DrawItemState state, QPainter &painter,
                        const QRect &area, const QPalette &palette);

} // namespace sorvane::studio

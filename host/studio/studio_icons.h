// The pictures the dialogs name ("sorvane-logo") and the icons of their trees ("level",
// "bookmark", "message", "no errors"), drawn here so the studio needs no image files.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace sorvane::studio {

QIcon namedIcon(const QString &name);
// The picture `name` at `size` pixels square; the logo for a name the studio does not know.
QPixmap namedPicture(const QString &name, int size);
// The studio's window icon.
QIcon applicationIcon();
// The icon of the window's action `name` ("file-open", "view-zoom-in", "go-next", ...): the
// desktop theme's, else one of the style's or one drawn here; a null icon for an action without.
QIcon actionIcon(const QString &name);

} // namespace sorvane::studio

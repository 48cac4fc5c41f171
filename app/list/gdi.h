// The GDI owners of the list's drawing, bound to the declared functions each
// drawing routine uses.
#pragma once

#include "image/declared_functions.h"
#include "runtime/windows/gdi_objects.h"

namespace korvalin::gdi {

// FolderList::drawRow: fills and lines of one row.
using RowBrush = rt::GdiObject<HBRUSH, &dll::DeleteObject>;
using RowPen = rt::GdiObject<HPEN, &dll::DeleteObject>;
using RowSelection = rt::GdiSelection<&dll::SelectObject, &dll::DeleteObject>;

// FolderList::paintItem and setFont: the off-screen bitmap, its DC, the
// fonts and the background brush.
using PaintObject = rt::GdiObject<HGDIOBJ, &dll::DeleteObjectPaint>;
using PaintBitmap = rt::GdiObject<HBITMAP, &dll::DeleteObjectPaint>;
using PaintBrush = rt::GdiObject<HBRUSH, &dll::DeleteObjectPaint>;
using PaintSelection = rt::GdiSelection<&dll::SelectObjectPaint, &dll::DeleteObjectPaint>;
using PaintDC = rt::MemoryDC<&dll::CreateCompatibleDC, &dll::DeleteDC>;

}  // namespace korvalin::gdi

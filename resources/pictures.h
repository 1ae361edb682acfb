#pragma once

// Makes the pictures under ":/pictures/" available; safe to call more than once.
// (Resources of a static library are not registered unless something asks for them.)
void initVaultryPictures();

class QPixmap;
class QString;

// One of those pictures for a screen of the given pixel ratio: the drawing made at twice the size ("name@2x.png")
// where the ratio is above 1, so that it stays crisp. The size in device-independent pixels is the same.
QPixmap vaultryPicture(const QString &path, double devicePixelRatio);

// The large document of the benchmarks: an RGB PSD of the given size with a
// full-canvas background and shapes on further layers, PackBits-compressed.
#pragma once

#include <QByteArray>
#include <QString>

QByteArray MakeLargePsd(int width, int height, int layers);
// Writes it to `path` unless a file of that name is there already.
void EnsureLargePsd(const QString &path, int width, int height, int layers);

// Peak resident memory of this process so far, in MB.
double PeakMemoryMB();

#pragma once

// The screen's resolution, read once: the preview turns printer units into
// screen pixels with it.
class CScreenMetrics
{
public:
    static const CScreenMetrics& Instance();

    int m_pixelsPerInchX = 96;
    int m_pixelsPerInchY = 96;

private:
    CScreenMetrics();
};

// a * b / c, rounded to the nearest (halves away from zero), as the page
// arithmetic of the preview computes; 0 when c is 0.
int KvMulDiv(int a, int b, int c);

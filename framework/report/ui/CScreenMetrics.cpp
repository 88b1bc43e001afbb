#include "CScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

CScreenMetrics::CScreenMetrics()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        m_pixelsPerInchX = std::max(1, qRound(screen->logicalDotsPerInchX()));
        m_pixelsPerInchY = std::max(1, qRound(screen->logicalDotsPerInchY()));
    }
}

const CScreenMetrics& CScreenMetrics::Instance()
{
    static const CScreenMetrics metrics;
    return metrics;
}

int KvMulDiv(int a, int b, int c)
{
    if (c == 0)
        return 0;
    const long long product = static_cast<long long>(a) * b;
    const long long half = std::llabs(c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const long long q = (std::llabs(product) + half) / std::llabs(c);
    return static_cast<int>(negative ? -q : q);
}

#include "CHandSaleArchive.h"

#include "CHandRaw.h"

namespace {

CHandSaleArchive::NewAccountOpener& opener()
{
    static CHandSaleArchive::NewAccountOpener o;
    return o;
}

} // namespace

class CPriceVerList
{
};

void CHandSaleArchive::SetNewAccountOpener(NewAccountOpener next)
{
    opener() = std::move(next);
}

CHandSaleArchive::CHandSaleArchive() : m_prices(std::make_unique<CPriceVerList>()) {}

CHandSaleArchive::~CHandSaleArchive() = default;

CHandSaleArchive::Result CHandSaleArchive::ArchiveRow(CHandRawList&, CHandRaw*, const Values&, QObject*)
{
    return Kept;
}

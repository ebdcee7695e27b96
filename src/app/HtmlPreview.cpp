#include "HtmlPreview.h"

namespace {

HtmlPreviewFactory &Factory()
{
    static HtmlPreviewFactory factory;
    return factory;
}

} // namespace

void SetHtmlPreviewFactory(HtmlPreviewFactory factory)
{
    Factory() = std::move(factory);
}

std::unique_ptr<IHtmlPreview> CreateHtmlPreview(QWidget *parent, PreviewNavigateFn onNavigate)
{
    return Factory() ? Factory()(parent, std::move(onNavigate)) : nullptr;
}

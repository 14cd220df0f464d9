// SPDX-License-Identifier: MIT
#include "platform/form_registry.h"

namespace platform {

FormRegistry &FormRegistry::instance()
{
    static FormRegistry registry;
    return registry;
}

QWidget *FormRegistry::find(std::type_index type) const
{
    const auto found = m_byType.find(type);
    return found == m_byType.end() ? nullptr : found->second;
}

QWidget &FormRegistry::adopt(std::type_index type, std::unique_ptr<QWidget> form)
{
    m_byType.emplace(type, form.get());
    m_inCreationOrder.push_back(std::move(form));
    return *m_inCreationOrder.back();
}

void FormRegistry::destroyAll()
{
    m_byType.clear();
    while (!m_inCreationOrder.empty())
        m_inCreationOrder.pop_back();
}

} // namespace platform

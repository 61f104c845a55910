#include "tests/game/data/PlayerFileFixture.h"

namespace GameTest {

std::string PlayerFileFixture::StoredString(const std::string& name)
{
    std::string text;
    return App().RegistryReadString(name, &text) ? text : "<none>";
}

} // namespace GameTest

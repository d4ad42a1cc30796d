<?xml version="1.0" encoding="UTF-8"?>
<!-- Vocabularies of other offices, included by patent-common.xsl (see its hooks). -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">

<!-- Label rows of these vocabularies: <l k="key" en="..." de="..." fr="..." ja="..."/>. -->
<xsl:variable name="tv-intl-label-rows"/>

</xsl:stylesheet>

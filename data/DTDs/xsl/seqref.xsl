<?xml version="1.0" encoding="UTF-8"?>
<!-- Placeholder until the listing links land: a paragraph's text as it is. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
<xsl:param name="tv-seq-page" select="''"/>
<xsl:template name="tv-seq-text">
  <xsl:param name="text" select="."/>
  <xsl:value-of select="$text"/>
</xsl:template>
</xsl:stylesheet>

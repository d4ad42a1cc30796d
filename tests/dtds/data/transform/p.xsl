<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
<!-- Shows the listing page the document opener passes. -->
<xsl:param name="tv-seq-page"/>
<xsl:template match="/"><p><xsl:value-of select="$tv-seq-page"/></p></xsl:template>
</xsl:stylesheet>
